# Flags shared by every target of the project.
add_library(quorel_flags INTERFACE)
target_compile_features(quorel_flags INTERFACE cxx_std_20)
target_compile_definitions(quorel_flags INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)
# Casts, conversions and virtual-function mistakes are warned about; QUOREL_WERROR makes every
# warning fail the build, as CI does.
target_compile_options(quorel_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow
  -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor -Wcast-qual -Wconversion -Wsign-conversion)
if(QUOREL_WERROR)
  target_compile_options(quorel_flags INTERFACE -Werror)
endif()
if(QUOREL_SANITIZE OR QUOREL_FUZZ)
  target_compile_options(quorel_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quorel_flags INTERFACE -fsanitize=address,undefined)
endif()
if(QUOREL_FUZZ)
  # Coverage feedback from every library a fuzz target links; the targets add libFuzzer's main.
  target_compile_options(quorel_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
set(CMAKE_AUTOMOC ON)

# The Qt headers every file of a target reads, compiled once for the target instead of once a file.
function(quorel_precompile_qt target)
  set(headers <QString> <QStringList> <QByteArray> <QList> <QObject>)
  if("WIDGETS" IN_LIST ARGN)
    list(APPEND headers <QWidget> <QComboBox> <QLineEdit> <QPushButton> <QCheckBox> <QLabel>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
