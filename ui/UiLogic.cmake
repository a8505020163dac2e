# The editor's window-free logic as a library of its own, so that the native
# build tests it too. Included from ui/ (Windows) and tests/ui/ (any host).
if(NOT TARGET tabrix_uilogic)
  add_library(tabrix_uilogic STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HyperLinkLogic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupPropLogic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgressThrottle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LibraryMessages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReadFaultMessages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PhraseRows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RowSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PhraseSteps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PhraseMessages.cpp
  )
  target_include_directories(tabrix_uilogic PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(tabrix_uilogic PUBLIC tabrix_libfile tabrix_import)
  tabrix_target_settings(tabrix_uilogic)
endif()
