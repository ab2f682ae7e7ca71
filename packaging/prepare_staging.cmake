# Run by CPack on its staging tree before the packages are made.
#
# In a Debian package the licence belongs in /usr/share/doc/<package>/copyright,
# which holds it already, so the plain LICENSE copy is left out.
file(GLOB_RECURSE copies "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/LICENSE")
list(FILTER copies INCLUDE REGEX "/doc/sweepwav[^/]*/LICENSE$")
if(copies)
  file(REMOVE ${copies})
endif()

# The compilers' notes of their versions (.comment) are of no use in an
# installed program.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER programs INCLUDE REGEX "/bin/sweepwav[^/]*$")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_SWEEPWAV_OBJCOPY}" --remove-section=.comment "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not remove .comment from ${program}")
  endif()
endforeach()
