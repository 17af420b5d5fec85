# Sources of the page parsers, the checksum and URL normalisation.
target_sources(quorvex_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ParserTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Parsers.cpp
)
