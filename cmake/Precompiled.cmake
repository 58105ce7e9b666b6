# Precompiled headers. Most of a translation unit's compile time here is spent parsing Qt's headers,
# so one precompiled header for the core and one for the windows roughly halve a cold build.
# Every other target reuses one of the two (their flags match; the extra -D of tests and tools do
# not occur in these headers). K352_PCH=OFF builds without them, which also checks that each file
# includes what it uses.
option(K352_PCH "Use precompiled headers for Qt and the standard library" ON)

set(K352_PCH_CORE
    <algorithm> <cmath> <functional> <memory> <optional> <string> <vector>
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QList> <QLocale> <QObject>
    <QString> <QStringList> <QTimer> <QSerialPort>)
set(K352_PCH_UI ${K352_PCH_CORE}
    <QtWidgets> <QPainter> <QPrinter> <qcustomplot.h>)

# k352_use_pch(TARGET core|ui|TARGET-TO-REUSE)
function(k352_use_pch target kind)
  if(NOT K352_PCH)
    return()
  endif()
  if(kind STREQUAL "core")
    target_precompile_headers(${target} PRIVATE ${K352_PCH_CORE})
  elseif(kind STREQUAL "ui")
    target_precompile_headers(${target} PRIVATE ${K352_PCH_UI})
  else()
    target_precompile_headers(${target} REUSE_FROM ${kind})
  endif()
endfunction()
