# cmake -DSOURCE=dir -DDESTINATION=dir -DMANIFEST=file -P copy_shipped_data.cmake
#
# Copies the shipped data beside the executables without undoing what the
# program wrote there: the settings dialog writes the user's choices into
# Config.ini beside the program, and a build must not put the shipped values
# back. A file is copied when its copy is missing, or when the shipped file
# differs from the one this step copied last time (a change in the source
# tree reaches the build, and then replaces what the program wrote). MANIFEST
# remembers, per file, the SHA-256 of the shipped file last copied.
cmake_minimum_required(VERSION 3.25)
foreach(name SOURCE DESTINATION MANIFEST)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "copy_shipped_data: ${name} is not given")
  endif()
endforeach()

set(copied "")
if(EXISTS "${MANIFEST}")
  file(STRINGS "${MANIFEST}" copied)
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE}" "${SOURCE}/*")
list(SORT files)
set(manifest "")
foreach(file IN LISTS files)
  file(SHA256 "${SOURCE}/${file}" hash)
  set(entry "${hash}  ${file}")
  list(FIND copied "${entry}" known)
  if(known EQUAL -1 OR NOT EXISTS "${DESTINATION}/${file}")
    get_filename_component(folder "${DESTINATION}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}/${file}" "${DESTINATION}/${file}")
  endif()
  string(APPEND manifest "${entry}\n")
endforeach()

# Written whole and then renamed, so a build cut short leaves the old manifest.
file(WRITE "${MANIFEST}.new" "${manifest}")
file(RENAME "${MANIFEST}.new" "${MANIFEST}")
