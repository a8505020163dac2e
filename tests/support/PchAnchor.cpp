// Compiled once per configuration to precompile GoogleTest's header for
// every test program (tests/CMakeLists.txt: tabrix_test_pch).
