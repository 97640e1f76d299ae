# Run at install time: the changelog dated by the source (source_date.cmake), gzip -9n.
# Needs QUELVO_SOURCE_DIR, PROJECT_VERSION and QUELVO_CHANGELOG (the .gz to write).
include(${CMAKE_CURRENT_LIST_DIR}/source_date.cmake)
string(TIMESTAMP QUELVO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(REGEX REPLACE "\\.gz$" "" plain "${QUELVO_CHANGELOG}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${plain} @ONLY)
execute_process(COMMAND gzip -9nf ${plain} COMMAND_ERROR_IS_FATAL ANY)
