# The Debian package: `cpack -G DEB` in the build directory packs what
# `cmake --install` puts in place, with the copyright file, the changelog and
# stripped programs (scripts/check-package.sh builds and checks it).
set(QUILLMERE_MAINTAINER "Quillmere maintainers <maintainers@quillmere.org>")
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# The changelog's newest entry must be the version being packaged.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^quillmere \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/changelog does not start with an entry for ${PROJECT_VERSION}: "
                  "add one before making the package")
endif()

set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${packaging_dir}/changelog ${changelog_gz}
  DEPENDS ${packaging_dir}/changelog
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog_gz})
# The README with its recipes for reading the table in R and Python.
install(FILES ${packaging_dir}/copyright ${changelog_gz} ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmere)

# A stripped install (the package's) drops the compiler's notes too, as
# Debian's own packages do.
install(CODE "set(quillmere_objcopy \"${CMAKE_OBJCOPY}\")\nset(quillmere_bindir \"${CMAKE_INSTALL_BINDIR}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP AND quillmere_objcopy)
    foreach(program quillmere quillmere-summary)
      set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${quillmere_bindir}/${program}")
      if(EXISTS "${path}")
        execute_process(COMMAND "${quillmere_objcopy}" --remove-section=.comment "${path}" COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endforeach()
  endif()
]])

set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_CONTACT "${QUILLMERE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The summary line comes first, from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "People who run the TOXSWA surface-water fate model once per mitigation
variant and scenario end up with a directory of run folders, each with .sum
summary reports. Quillmere reads every report of every run folder and writes
one tab-separated table, Summary.txt: per report and substance the water and
sediment maxima, their 7- and 21-day time-weighted averages, the dates of the
maxima and the application dates.

The package holds the window, quillmere, and the command line,
quillmere-summary, which do the same work.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
