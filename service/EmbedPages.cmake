# Writes a C++ source holding the HTML pages given in PAGES (a ;-list of
# files) as raw string literals, looked up by file name. Run with cmake -P.
set(body "")
foreach(page IN LISTS PAGES)
  get_filename_component(name "${page}" NAME)
  file(READ "${page}" html)
  string(FIND "${html}" ")korvane_page\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${page} holds the literal's delimiter")
  endif()
  string(APPEND body "    {\"${name}\", R\"korvane_page(${html})korvane_page\"},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from service/pages by EmbedPages.cmake; do not edit.
#include \"BuiltInPages.h\"

#include <map>
#include <string>

namespace korvane::service {

std::optional<std::string_view> BuiltInPage(std::string_view file) {
    static const std::map<std::string, std::string_view, std::less<>> pages = {
${body}    };
    const auto it = pages.find(file);
    if (it == pages.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace korvane::service
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
