// Debug printers of dynamically typed values: each knows some types and
// gives a text for a value of one of them, nothing for any other.
//
// A printer appends its text to `out` and returns true, or leaves `out`
// untouched and returns false: the text is written straight into whatever
// is being built, with no string of its own.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "maps/Dynamic.h"

namespace kelvor {

using DynamicPrinter = std::function<bool(std::string& out, const Dynamic& value)>;

// The printer's text for a value, or none.
std::optional<std::string> dynamicText(const DynamicPrinter& printer, const Dynamic& value);

// f(out, v) for a value v of type T (by type identity).
template <NamedType T, class F>
DynamicPrinter dshow(F f) {
  return [f = std::move(f)](std::string& out, const Dynamic& d) {
    const T* v = d.valueAs<T>();
    if (v == nullptr) return false;
    f(out, *v);
    return true;
  };
}

// label, "=", then f's text, for a value of type T.
template <NamedType T, class F>
DynamicPrinter dshowLabel(std::string label, F f) {
  return [label = std::move(label), f = std::move(f)](std::string& out, const Dynamic& d) {
    const T* v = d.valueAs<T>();
    if (v == nullptr) return false;
    out += label;
    out += '=';
    f(out, *v);
    return true;
  };
}

// T's type name, "=", then f's text, for a value of type T.
template <NamedType T, class F>
DynamicPrinter dshowTypeLabel(F f) {
  return dshowLabel<T>(std::string(TypeName<T>::value), std::move(f));
}

// p's text followed by q's for a value both print; either one's alone when
// only it prints.
DynamicPrinter dPlus(DynamicPrinter p, DynamicPrinter q);

// Prints nothing.
DynamicPrinter dshow0();

// Spans as "R=" "=" and the span: R==4, R==0^3.
DynamicPrinter rangeDShow();

}  // namespace kelvor
