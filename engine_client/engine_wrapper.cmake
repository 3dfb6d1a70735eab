# The host's side of the engine: messenger, method channel, engine, view
# controller and view, over the engine library's C interface: the target
# flutter_windows, chosen in standin/. On Windows that is flutter_windows.dll
# (the stand-in's, or a real one in a product build); natively the
# stand-in's portable core plays it, so the messenger and channel run under
# the sanitizers too.
if(VELTRIX_BENCH_ONLY)
  return()
endif()

# The engine's C interface as the host links it: on Windows bound at run
# time from the program's folder (what runs it must have the library built
# beside it), natively the stand-in's portable core.
if(WIN32)
  add_library(veltrix_engine STATIC
    ${CMAKE_CURRENT_LIST_DIR}/bundled_library.cc ${CMAKE_CURRENT_LIST_DIR}/engine_library.cc)
  target_link_libraries(veltrix_engine PUBLIC veltrix_options veltrix_base)
else()
  add_library(veltrix_engine INTERFACE)
  target_link_libraries(veltrix_engine INTERFACE flutter_windows)
endif()

add_library(veltrix_engine_wrapper STATIC
  ${CMAKE_CURRENT_LIST_DIR}/binary_messenger.cc
  ${CMAKE_CURRENT_LIST_DIR}/flutter_engine.cc
  ${CMAKE_CURRENT_LIST_DIR}/flutter_view_controller.cc
  ${CMAKE_CURRENT_LIST_DIR}/method_channel.cc)
target_link_libraries(veltrix_engine_wrapper PUBLIC
  veltrix_options veltrix_engine_client veltrix_engine)

veltrix_add_test(engine_client_wrapper_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_wrapper_test.cc
  LIBS veltrix_engine_wrapper flutter_windows
  IN_BUNDLE)
