# Sources of the download control.
target_sources(quorvex_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ocxParseWeb.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageDecoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WebClient.cpp
)
