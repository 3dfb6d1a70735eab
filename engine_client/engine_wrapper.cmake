# The host's side of the engine: messenger, method channel, engine, view
# controller and view, over the engine library's C interface: the target
# flutter_windows, chosen in standin/. On Windows that is flutter_windows.dll
# (the stand-in's, or a real one in a product build); natively the
# stand-in's portable core plays it, so the messenger and channel run under
# the sanitizers too.
if(VELTRIX_BENCH_ONLY)
  return()
endif()

add_library(veltrix_engine_wrapper STATIC
  ${CMAKE_CURRENT_LIST_DIR}/binary_messenger.cc
  ${CMAKE_CURRENT_LIST_DIR}/flutter_engine.cc
  ${CMAKE_CURRENT_LIST_DIR}/flutter_view_controller.cc
  ${CMAKE_CURRENT_LIST_DIR}/method_channel.cc)
target_link_libraries(veltrix_engine_wrapper PUBLIC
  veltrix_options veltrix_engine_client flutter_windows)

veltrix_add_test(engine_client_wrapper_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_wrapper_test.cc
  LIBS veltrix_engine_wrapper
  IN_BUNDLE)
