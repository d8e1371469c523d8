# Settings every target of ours shares: the language level, warnings and sanitizers.
add_library(quillpost_common INTERFACE)
target_compile_features(quillpost_common INTERFACE cxx_std_17)
target_compile_options(quillpost_common INTERFACE -Wall -Wextra)
# The version is written once, in the project; the program and its tests take it from here.
target_compile_definitions(quillpost_common INTERFACE
    QT_NO_KEYWORDS
    QUILLPOST_VERSION="${PROJECT_VERSION}")

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

if(QUILLPOST_SANITIZE)
    target_compile_options(quillpost_common INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(quillpost_common INTERFACE -fsanitize=address,undefined)
endif()
if(QUILLPOST_TSAN)
    target_compile_options(quillpost_common INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(quillpost_common INTERFACE -fsanitize=thread)
endif()
