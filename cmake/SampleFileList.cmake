# Writes LIST naming SAMPLE (CR LF, as list files are) unless LIST exists already.
if(NOT EXISTS "${LIST}" AND EXISTS "${SAMPLE}")
  file(WRITE "${LIST}.tmp" "${SAMPLE}\r\n")
  file(RENAME "${LIST}.tmp" "${LIST}")
endif()
