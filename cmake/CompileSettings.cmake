# One place for the compile settings every target of the project links.
add_library(zefiran_settings INTERFACE)
target_compile_features(zefiran_settings INTERFACE cxx_std_17)
target_compile_options(zefiran_settings INTERFACE -Wall -Wextra -Wpedantic)
if(ZEFIRAN_WERROR)
    target_compile_options(zefiran_settings INTERFACE -Werror)
endif()
target_compile_definitions(zefiran_settings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_DISABLE_DEPRECATED_BEFORE=0x060400)
