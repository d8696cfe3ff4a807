# Writes the form text SRC to OUT with every binary value written {@path}
# replaced by the hexadecimal lines of the file BASE/path:
#   cmake -DSRC=form.txt -DOUT=built.txt -DBASE=folder -P kv_form_data.cmake
file(READ "${SRC}" text)
string(REGEX MATCHALL "{@[^}]*}" refs "${text}")
list(REMOVE_DUPLICATES refs)
foreach(ref IN LISTS refs)
  string(REGEX REPLACE "^{@(.*)}$" "\\1" rel "${ref}")
  if(NOT EXISTS "${BASE}/${rel}")
    message(FATAL_ERROR "${SRC}: ${ref} names a file that does not exist: ${BASE}/${rel}")
  endif()
  file(READ "${BASE}/${rel}" hex HEX)
  string(TOUPPER "${hex}" hex)
  # 32 bytes a line
  string(REGEX REPLACE "(................................................................)"
         "\\1\n      " hex "${hex}")
  string(STRIP "${hex}" hex)
  string(REPLACE "${ref}" "{\n      ${hex}}" text "${text}")
endforeach()
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
