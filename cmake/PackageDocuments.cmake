# The documents a Debian package carries as Debian wants them, made at build
# time under <build>/package-documents:
#   copyright      the machine-readable copyright file, from LICENSE
#   changelog.gz   doc/package/changelog (the package is native), compressed
#   man1/*.1.gz    the manual pages, compressed
# gzip -9n: best compression and no time stamp, so the files are the same at
# every build.
set(QK_PACKAGE_DOCUMENTS_DIR ${PROJECT_BINARY_DIR}/package-documents)

# The changelog's newest entry must be the version being built.
file(STRINGS ${PROJECT_SOURCE_DIR}/doc/package/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^qkmonitors \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "doc/package/changelog starts with '${changelog_head}': "
                      "add an entry for version ${PROJECT_VERSION} at its top")
endif()

# LICENSE (the MIT text, which Debian calls Expat) in the copyright format:
# each line indented by one blank, an empty line as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright_line "${license_text}")
set(copyright_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^MIT License\n\n" "" license_body "${license_text}")
string(REGEX REPLACE "^Copyright [^\n]*\n\n" "" license_body "${license_body}")
string(STRIP "${license_body}" license_body)
string(REPLACE "\n\n" "\n.\n" license_body "${license_body}")
string(REPLACE "\n" "\n " license_body "${license_body}")
file(CONFIGURE OUTPUT ${QK_PACKAGE_DOCUMENTS_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: qkmonitors

Files: *
Copyright: ${copyright_holder}
License: Expat

License: Expat
 ${license_body}
" @ONLY)

set(compressed_documents)
macro(qk_compressed_document source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QK_PACKAGE_DOCUMENTS_DIR}/man1
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND compressed_documents ${output})
endmacro()
qk_compressed_document(${PROJECT_SOURCE_DIR}/doc/package/changelog ${QK_PACKAGE_DOCUMENTS_DIR}/changelog.gz)
foreach(page qk14 qkp877w qk-target-sim)
  qk_compressed_document(${PROJECT_SOURCE_DIR}/doc/man/${page}.1 ${QK_PACKAGE_DOCUMENTS_DIR}/man1/${page}.1.gz)
endforeach()
add_custom_target(qk_package_documents ALL DEPENDS ${compressed_documents})
