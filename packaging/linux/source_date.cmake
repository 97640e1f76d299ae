# The time a build stands for: SOURCE_DATE_EPOCH when set, else the last commit's time, so
# that one commit built twice gives the same package. Sets ENV{SOURCE_DATE_EPOCH}, which
# string(TIMESTAMP) and cpack's archives then use. Needs QUELVO_SOURCE_DIR.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${QUELVO_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  RESULT_VARIABLE failed)
  if(failed OR epoch STREQUAL "")
    # A source tree without its history: the version block's file time.
    file(TIMESTAMP "${QUELVO_SOURCE_DIR}/src/resources/quelvo.rc" epoch %s UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
