// A profile file as it comes from the internet: the whole text goes through
// the reader, and whatever it accepts must write out again and read back to
// the same text. The reader must refuse everything else with its reason,
// and never yield more programs than a profile keeps.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "profiles/profile.h"

namespace kovral::fuzz {
namespace {

void CheckImport(std::string_view text) {
  const ProfileImport first = ImportProfile(text);
  if (!first.profile) {
    Check(!first.error.empty(), "a refusal without its reason");
    return;
  }
  Check(first.profile->programs.size() <= kProfileProgramLimit, "more programs than a profile keeps");
  for (const std::wstring& program : first.profile->programs)
    Check(FileNameProblem(program, kProgramNameLimit, "program name").empty(), "an accepted program name a file cannot have");
  const std::string written = ExportProfile(*first.profile);
  const ProfileImport again = ImportProfile(written);
  if (!again.profile) {
    std::fprintf(stderr, "export of an accepted profile refused: %s\n", again.error.c_str());
    Fail("an exported profile does not read back");
  }
  Check(ExportProfile(*again.profile) == written, "export, import and export again differ");
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kovral::fuzz::CheckImport(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
