// Dynamically typed values: a value together with the identity of its type
// and the type's printed name.
//
// A type can be stored only once it has a printed name, given by
// specialising TypeName next to the type, in namespace kelvor:
//   template <> struct TypeName<Range> {
//     static constexpr std::string_view value = "ZezeRozi.Util.Range";
//   };
// A type without one does not compile where it would be stored. Names must
// differ between types: a dynamic map keeps one value per name.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

namespace kelvor {

template <class T>
struct TypeName;

template <class T>
concept NamedType = requires {
  { TypeName<T>::value } -> std::convertible_to<std::string_view>;
};

template <>
struct TypeName<bool> {
  static constexpr std::string_view value = "Bool";
};
template <>
struct TypeName<int> {
  static constexpr std::string_view value = "Int";
};
template <>
struct TypeName<std::int64_t> {
  static constexpr std::string_view value = "Int64";
};
template <>
struct TypeName<double> {
  static constexpr std::string_view value = "Double";
};
template <>
struct TypeName<std::string> {
  static constexpr std::string_view value = "[Char]";
};

class Dynamic {
 public:
  template <NamedType T>
  static Dynamic of(T value) {
    return Dynamic(std::make_shared<const T>(std::move(value)), typeid(T), TypeName<T>::value);
  }

  std::string_view typeName() const { return name_; }
  const std::type_info& type() const { return *type_; }

  // The stored value when its type is T (by identity, not by name), else
  // null.
  template <class T>
  const T* valueAs() const {
    return *type_ == typeid(T) ? static_cast<const T*>(value_.get()) : nullptr;
  }

 private:
  Dynamic(std::shared_ptr<const void> value, const std::type_info& type, std::string_view name)
      : value_(std::move(value)), type_(&type), name_(name) {}

  std::shared_ptr<const void> value_;
  const std::type_info* type_;
  std::string_view name_;
};

template <NamedType T>
Dynamic toDyn(T value) {
  return Dynamic::of(std::move(value));
}

// The value as a T when it was stored as a T; absent otherwise.
template <NamedType T>
std::optional<T> fromDynamic(const Dynamic& d) {
  const T* v = d.valueAs<T>();
  return v == nullptr ? std::nullopt : std::optional<T>(*v);
}

}  // namespace kelvor
