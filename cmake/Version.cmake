# The version the programs report: the project version, plus the git revision
# when the source is a git checkout. The header is rewritten at every build
# (only when its text changes), so a new commit shows without a new configure.
#   target_link_libraries(<program> PRIVATE qk_version)   then   #include "qk_version.h"
set(QK_VERSION_DIR ${PROJECT_BINARY_DIR}/generated/version)
add_custom_target(qk_version_header
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${QK_VERSION_DIR}/qk_version.h
          -DVERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/WriteVersionHeader.cmake
  BYPRODUCTS ${QK_VERSION_DIR}/qk_version.h
  COMMENT "Version header"
  VERBATIM)
add_library(qk_version INTERFACE)
target_include_directories(qk_version INTERFACE ${QK_VERSION_DIR})
add_dependencies(qk_version qk_version_header)
