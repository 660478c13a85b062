# Copies FROM to TO unless TO exists already (a file the user may have edited).
if(NOT EXISTS "${TO}" AND EXISTS "${FROM}")
  get_filename_component(folder "${TO}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${FROM}" "${TO}.tmp")
  file(RENAME "${TO}.tmp" "${TO}")
endif()
