# The Sorvane program: the application object and main() over the frame.
# The ui folder joins the build after this one; its target is linked by name.
if(EXISTS ${CMAKE_SOURCE_DIR}/ui/CMakeLists.txt AND TARGET sorvane_settings AND TARGET sorvane_candb)
  add_library(sorvane_app STATIC sorvane_app.cpp)
  target_include_directories(sorvane_app PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(sorvane_app PUBLIC sorvane_ui sorvane_settings sorvane_can sorvane_candb
                        Qt6::Widgets Qt6::Network)
  set_target_properties(sorvane_app PROPERTIES AUTOMOC ON)
  # The database model has a member named "signals".
  target_compile_definitions(sorvane_app PRIVATE QT_NO_KEYWORDS)
  add_executable(sorvane main.cpp)
  target_link_libraries(sorvane PRIVATE sorvane_app)
  if(TARGET canlib)
    add_dependencies(sorvane canlib)
  endif()
  if(TARGET kvadblib)
    add_dependencies(sorvane kvadblib)
  endif()
endif()
