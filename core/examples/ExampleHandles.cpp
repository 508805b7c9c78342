#include "core/examples/ExampleHandles.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "core/examples/ExampleLine.h"

namespace kelvor {

namespace {

std::string describeFile(const InputFile& file) { return "{handle: " + file.path() + "}"; }

// The example line at the offset, parsed without completing its fields.
// Every failure, the rejection of the line included, names its line; the
// rejection message is `rejected` followed by the line itself.
Element readExampleAt(const std::shared_ptr<InputFile>& file, std::int64_t offset, double bias,
                      std::string& line, const std::function<std::string()>& rejected) {
  return atOffset(*file, offset, [&] {
    file->seek(offset);
    file->readLineOrFail(line);
    std::optional<Element> e = parseExampleLine(bias, line, TreeTextForm::Bare, {{file, offset}});
    if (!e) fail(rejected() + "\n" + line + "\n" + describeRejection(line));
    return std::move(*e);
  });
}

}  // namespace

Element ExampleHandle::at(std::int32_t i) const {
  return cache_.lookup(i, [&] {
    const std::int64_t offset = eh_Indices.at(i);
    return readExampleAt(eh_Handle, offset, eh_bias, line_, [&] {
      return "indexEH " + describeFile(*eh_Handle) + ", index " + std::to_string(i) + " at " +
             std::to_string(offset);
    });
  });
}

Element ExampleHandles::at(std::int32_t i) const {
  return cache_.lookup(i, [&] {
    const ExampleLocation& entry = ehs_Indices.at(i);
    if (entry.file == nullptr) fail("readExampleHandles: value not filled in");
    // The collection owns its files; the entry points into one of them.
    const auto owner = std::find_if(ehs_Handles.begin(), ehs_Handles.end(),
                                    [&](const auto& h) { return h.get() == entry.file; });
    if (owner == ehs_Handles.end()) failUncovered("ExampleHandles::at: an entry of no own file");
    return readExampleAt(*owner, entry.offset, ehs_bias, line_, [&] {
      const std::string file = describeFile(*entry.file);
      return "indexEHS " + file + ", index " + std::to_string(i) + " at (" + file + "," +
             std::to_string(entry.offset) + ")";
    });
  });
}

std::pair<Examples, std::int32_t> readExampleHandle(double bias, std::shared_ptr<InputFile> file) {
  requireSeekable(*file);
  file->seek(0);
  std::int32_t highest = 0;
  std::vector<std::int64_t> offsets;
  scanExampleHandle(highest, *file, offsets);
  auto handle = std::make_shared<const ExampleHandle>(
      std::move(file), Array<std::int64_t>(std::move(offsets)), bias);
  return {Examples(std::move(handle)), highest};
}

std::pair<Examples, std::int32_t> readExampleHandles(
    double bias, std::vector<std::shared_ptr<InputFile>> files) {
  for (const auto& file : files) requireSeekable(*file);
  for (const auto& file : files) file->seek(0);
  const std::int32_t count = countExampleLines(files, 0);
  printErr("/");
  std::int32_t highest = 0;
  for (const auto& file : files) file->seek(0);
  std::vector<ExampleLocation> entries(static_cast<std::size_t>(count));
  scanExampleHandles(entries, 0, highest, files);
  auto handles = std::make_shared<const ExampleHandles>(
      std::move(files), Array<ExampleLocation>(std::move(entries)), bias);
  return {Examples(std::move(handles)), highest};
}

}  // namespace kelvor
