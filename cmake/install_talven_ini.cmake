# Run by `cmake --install`: writes the installed default Talven.ini, which is
# data/Talven.ini with its data folders (the letter recordings, the recorded
# voice, Orvan's files) pointing into <prefix>/share/kaldorin, where the
# package puts them. The prefix is the one of the install (--prefix), so the
# file is made here rather than when the build is configured.
# Expects KALDORIN_SOURCE_DIR.
set(data "${CMAKE_INSTALL_PREFIX}/share/kaldorin")
file(READ "${KALDORIN_SOURCE_DIR}/data/Talven.ini" ini)

# Replaces the whole line `key=value` (the value as written in the file,
# backslashes and all) by `key=folder`; a line that is not there is an error,
# so a change of the default file cannot leave a folder pointing elsewhere.
function(point_key key value folder)
  string(REPLACE "\\" "\\\\" pattern "${value}")
  string(REGEX REPLACE "\n${key}=${pattern}\n" "\n${key}=${folder}\n" replaced "${ini}")
  if(replaced STREQUAL ini)
    message(FATAL_ERROR "data/Talven.ini has no line ${key}=${value}")
  endif()
  set(ini "${replaced}" PARENT_SCOPE)
endfunction()

point_key(DIRLETRAS [[c:\ferlan\som\letras]] "${data}/som/letras")
point_key(DIRDIFONES [[c:\ferlan\som\difones]] "${data}/som/difones")
point_key(DIR [[c:\ferlan\orvantts\]] "${data}/orvantts/")
file(WRITE "$ENV{DESTDIR}${data}/Talven.ini" "${ini}")
message(STATUS "Installing: $ENV{DESTDIR}${data}/Talven.ini")
