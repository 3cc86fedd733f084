# Makes ROOT an empty folder and, in the Wine prefix PREFIX, the root of
# drive Q:, for the tests that need a drive root of their own.
if(NOT EXISTS "${PREFIX}/dosdevices")
  message(FATAL_ERROR "no Wine prefix at ${PREFIX}; run scripts/build-windows.sh")
endif()
file(REMOVE_RECURSE "${ROOT}")
file(MAKE_DIRECTORY "${ROOT}")
file(REMOVE "${PREFIX}/dosdevices/q:")
file(CREATE_LINK "${ROOT}" "${PREFIX}/dosdevices/q:" SYMBOLIC)
