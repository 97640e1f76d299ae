# Reads the product strings from the version block of Quelvo.scr, so the installer, the
# zip and their tests name the version, product and maker the program itself carries.
# Sets QUELVO_VERSION ("1.00"), QUELVO_FILE_VERSION ("1.0.0.0"), QUELVO_PRODUCT and
# QUELVO_COMPANY.
get_filename_component(_quelvo_rc ${CMAKE_CURRENT_LIST_DIR}/../src/resources/quelvo.rc ABSOLUTE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_quelvo_rc})
file(READ ${_quelvo_rc} _quelvo_rc_text)

function(_quelvo_rc_string key out)
  if(NOT _quelvo_rc_text MATCHES "VALUE \"${key}\", \"([^\"]*)\"")
    message(FATAL_ERROR "quelvo.rc has no ${key} in its version block")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

_quelvo_rc_string(ProductVersion QUELVO_VERSION)
_quelvo_rc_string(ProductName QUELVO_PRODUCT)
_quelvo_rc_string(CompanyName QUELVO_COMPANY)
if(NOT _quelvo_rc_text MATCHES "FILEVERSION ([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+)")
  message(FATAL_ERROR "quelvo.rc has no FILEVERSION")
endif()
set(QUELVO_FILE_VERSION "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4}")
