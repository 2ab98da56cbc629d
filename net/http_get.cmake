# THTTPGet: libcurl on a worker thread, events on the user-interface thread.
find_package(CURL 7.85 REQUIRED) # CURLOPT_PROTOCOLS_STR
find_package(Threads REQUIRED)
add_library(orbita_net STATIC ${CMAKE_SOURCE_DIR}/net/http_get.cpp ${CMAKE_SOURCE_DIR}/net/http_get.h)
target_link_libraries(orbita_net PUBLIC orbita_net_rules orbita_qt_options Qt6::Core
  PRIVATE CURL::libcurl Threads::Threads)
