# What `cmake --install` puts under the prefix:
#   bin/qk14, bin/qkp877w, bin/qk-target-sim
#   lib/qkmonitors/Q7R2ER50.DLL        the message library; the programs look
#                                      for it in <exe dir>/../lib/qkmonitors/
#   lib/qkmonitors/qk-sdl-front-end.so the window front end, loaded from there
#                                      only when a window is wanted
#   share/qkmonitors/demo/{qk14,qkp877w}   QK.DEF and watch files to start from
#   share/man/man1/*.1.gz, share/bash-completion/completions/*
#   share/doc/qkmonitors/              README.md, copyright, changelog.gz
#                                      (cmake/PackageDocuments.cmake makes them)
#   share/lintian/overrides/qkmonitors  (doc/package/lintian-overrides)
# The font comes from the unifont package (/usr/share/unifont), so an installed
# program and the build tree read the same file.
# Then the Debian package rules (cmake/Package.cmake).
include(GNUInstallDirs)
# Installing (and cpack) takes what is built: a full build comes first, and
# the package test must not start one.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(QK_INSTALL_LIBRARY_DIR lib/qkmonitors)
set(QK_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/qkmonitors)

install(TARGETS qk14 qkp877w RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The simulator under a name that cannot clash with another package's program.
install(PROGRAMS $<TARGET_FILE:target-sim> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME qk-target-sim)
# A renamed program is not a target to install: stripping (cpack, install
# --strip) does not reach it by itself.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qk-target-sim\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(TARGETS qk_message_library qk_sdl_front_end LIBRARY DESTINATION ${QK_INSTALL_LIBRARY_DIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/monitors/qk14/demo/ DESTINATION ${QK_INSTALL_DATA_DIR}/demo/qk14)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/monitors/qkp877w/demo/ DESTINATION ${QK_INSTALL_DATA_DIR}/demo/qkp877w)

include(${CMAKE_CURRENT_LIST_DIR}/PackageDocuments.cmake)
foreach(page qk14 qkp877w qk-target-sim)
  install(FILES ${QK_PACKAGE_DOCUMENTS_DIR}/man1/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# bash-completion loads a completion by the command's name: one file, three names.
foreach(command qk14 qkp877w qk-target-sim)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/completion/qkmonitors.bash
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME ${command})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${QK_PACKAGE_DOCUMENTS_DIR}/copyright ${QK_PACKAGE_DOCUMENTS_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# lintian's view of the package: the tags that are intended, with the reason.
install(FILES ${PROJECT_SOURCE_DIR}/doc/package/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME qkmonitors)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
