# Writes the package's copyright file: ours, then the copyright and licence
# of the word list the dictionary file is built from, taken from the Debian
# package that owns the list where one does.
#   cmake -DTALVERO_WORD_LIST=... -DIN=copyright.in -DOUT=copyright -P WordListCopyright.cmake
set(WORD_LIST_ORIGIN "")
set(LIST_COPYRIGHT "")
execute_process(COMMAND dpkg-query -S ${TALVERO_WORD_LIST}
                OUTPUT_VARIABLE owner RESULT_VARIABLE status ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
if(status EQUAL 0)
  string(REGEX REPLACE ":.*" "" package "${owner}")
  set(WORD_LIST_ORIGIN " of Debian's ${package} package")
  if(EXISTS /usr/share/doc/${package}/copyright)
    file(READ /usr/share/doc/${package}/copyright LIST_COPYRIGHT)
    set(LIST_COPYRIGHT "Its copyright and licence, as that package states them:\n\n${LIST_COPYRIGHT}")
  endif()
endif()
if(LIST_COPYRIGHT STREQUAL "")
  set(LIST_COPYRIGHT "See the source of that list for its copyright and licence.\n")
endif()
configure_file(${IN} ${OUT}.tmp @ONLY)
file(READ ${OUT}.tmp ours)
file(WRITE ${OUT} "${ours}\n${LIST_COPYRIGHT}")
file(REMOVE ${OUT}.tmp)
