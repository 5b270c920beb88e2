# cmake -DSOURCE_DIR=... -DOUTPUT=.../qk_version.h -DVERSION=x.y.z -P WriteVersionHeader.cmake
set(revision "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=10 HEAD
                  OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed)
    set(revision "")
  else()
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} diff --quiet HEAD --
                    RESULT_VARIABLE changed OUTPUT_QUIET ERROR_QUIET)
    if(changed)
      string(APPEND revision "-modified")
    endif()
  endif()
endif()
if(revision)
  set(text "${VERSION} (git ${revision})")
else()
  set(text "${VERSION}")
endif()
set(content "// Generated at build time by cmake/WriteVersionHeader.cmake.
#pragma once

#include <string_view>

namespace build_info {
inline constexpr std::string_view kVersion = \"${text}\";
}  // namespace build_info
")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL content)
  file(WRITE ${OUTPUT} "${content}")
endif()
