# Sources of the page parsers, the checksum and URL normalisation.
target_sources(quorvex_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CiteReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LeadingNumber.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NormaliseURL.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageRankCheckSum.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageSummaryParsers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParserTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PropertySlot.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RankParsers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SearchResultParsers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SiteTextCleaning.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TagWalk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThousandsText.cpp
)
