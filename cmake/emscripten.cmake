# The web build: WebAssembly with Debian's emscripten, offline (its ports would download).
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc's optimiser runs under the system's Node.js, which finds acorn only here.
set(node_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_COMPILER_LAUNCHER ${node_env})
set(CMAKE_CXX_COMPILER_LAUNCHER ${node_env})
set(CMAKE_C_LINKER_LAUNCHER ${node_env})
set(CMAKE_CXX_LINKER_LAUNCHER ${node_env})
