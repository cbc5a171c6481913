// A library that only the test program's own folder holds, so that a test can tell whether a
// library is looked for there.
extern "C" __declspec(dllexport) int pedalwiseBesideProgram() {
    return 1;
}
