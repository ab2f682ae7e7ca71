# Run by CPack on its staging tree before the packages are made: in a Debian
# package the licence belongs in /usr/share/doc/<package>/copyright, which
# holds it already, so the plain LICENSE copy is left out.
file(GLOB_RECURSE copies "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/LICENSE")
list(FILTER copies INCLUDE REGEX "/doc/sweepwav[^/]*/LICENSE$")
if(copies)
  file(REMOVE ${copies})
endif()
