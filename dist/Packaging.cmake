# `make package`: a Debian package of the installed tree, for the prefix the program was
# built for (the program looks for its share folder and install folder there).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillpost)
set(CPACK_PACKAGE_VENDOR Quillpost)
set(CPACK_PACKAGE_CONTACT "Quillpost maintainers <maintainers@quillpost.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quillpost.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The description is README's opening, up to its first section, as plain text.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "submit your web site's address to many web services")
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "\n## " opening_end)
string(SUBSTRING "${readme}" 0 ${opening_end} opening)
string(REGEX REPLACE "^# [^\n]*\n+" "" opening "${opening}")
string(REGEX REPLACE "[`*]" "" opening "${opening}")
# Lines wrapped in the source, in list items or not, are joined, then filled again to the
# width Debian asks of a description.
string(REGEX REPLACE "\n +" " " opening "${opening}")
string(REGEX REPLACE "\n([^-\n])" " \\1" opening "${opening}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/description.txt "${opening}")
execute_process(COMMAND fold -s -w 78 ${CMAKE_CURRENT_BINARY_DIR}/description.txt
    OUTPUT_VARIABLE opening COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE " +\n" "\n" opening "${opening}")
string(STRIP "${opening}" CPACK_PACKAGE_DESCRIPTION)

include(CPack)
