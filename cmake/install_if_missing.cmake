# cmake -DFROM=file -DTO=file -P install_if_missing.cmake
# Copies FROM to TO only when TO does not exist yet: a file the player edits in
# the game folder (setup.ini) keeps its edits through every build.
if(NOT EXISTS "${TO}")
  configure_file("${FROM}" "${TO}" COPYONLY)
endif()
