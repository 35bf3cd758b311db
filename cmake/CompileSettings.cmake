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

# AddressSanitizer and UndefinedBehaviorSanitizer for the whole build (CI's second build);
# any finding ends the program with an error.
option(ZEFIRAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ZEFIRAN_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
    target_compile_options(zefiran_settings INTERFACE ${sanitizers} -fno-omit-frame-pointer -O1)
    target_link_options(zefiran_settings INTERFACE ${sanitizers})
endif()

# The libFuzzer build (`make fuzz`, clang): every library instrumented for the fuzzers.
option(ZEFIRAN_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(ZEFIRAN_FUZZ)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
    target_compile_options(zefiran_settings INTERFACE ${sanitizers} -fsanitize=fuzzer-no-link
        -fno-omit-frame-pointer)
    target_link_options(zefiran_settings INTERFACE ${sanitizers})
endif()
