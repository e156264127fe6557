# Qt 6 and QScintilla. Debian ships no CMake or pkg-config file for QScintilla,
# so an imported target is made from its library and header.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Network Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

get_target_property(quorvel_qt_library_type Qt6::Core TYPE)
if(quorvel_qt_library_type STREQUAL "STATIC_LIBRARY")
  set(QUORVEL_STATIC_QT ON)
else()
  set(QUORVEL_STATIC_QT OFF)
endif()

if(QUORVEL_STATIC_QT)
  # The static Qt for Windows (scripts/build-qt-windows.sh) holds a static
  # QScintilla beside it; nothing is exported from a static library.
  get_filename_component(quorvel_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
  find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 HINTS ${quorvel_qt_prefix}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h HINTS ${quorvel_qt_prefix}/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(quorvel_qscintilla_definitions "")
else()
  find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
  find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h PATH_SUFFIXES qt6 REQUIRED)
  set(quorvel_qscintilla_definitions QSCINTILLA_DLL)
endif()
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS "${quorvel_qscintilla_definitions}"
  INTERFACE_LINK_LIBRARIES Qt6::Widgets)

include(${CMAKE_CURRENT_LIST_DIR}/StaticQtPlugins.cmake)
