# A program linked with a static Qt carries its plugins inside: the ones it
# needs are named in app/gui/StaticQtPlugins.cpp and linked here, in place of
# Qt's automatic choice, so that list is the whole truth. Every Qt program of
# the build (the window and its test programs) calls this; with a shared Qt
# it does nothing.
add_library(quorvel_static_qt_plugins INTERFACE)
if(QUORVEL_STATIC_QT)
  target_sources(quorvel_static_qt_plugins INTERFACE ${PROJECT_SOURCE_DIR}/app/gui/StaticQtPlugins.cpp)
  target_link_libraries(quorvel_static_qt_plugins INTERFACE
    Qt6::QWindowsIntegrationPlugin Qt6::QSchannelBackendPlugin)
endif()

function(quorvel_use_static_qt_plugins ATarget)
  if(QUORVEL_STATIC_QT)
    # Qt's own mode for programs that import their plugins themselves: it then
    # neither links its default plugins nor adds an import object per linked
    # plugin (which would import each of ours twice).
    set_property(TARGET ${ATarget} PROPERTY _qt_static_plugins_finalizer_mode TRUE)
    target_link_libraries(${ATarget} PRIVATE quorvel_static_qt_plugins)
  endif()
endfunction()
