// Linked into every program of a sanitizer build (LK_SANITIZE), and only
// there. LeakSanitizer checks at exit, after the window has closed and with it
// the OpenGL driver has been unloaded: the driver's allocations would then be
// reported with frames in no known module, which no suppression can name.
// So no library is ever unloaded in these builds, and the libraries whose
// allocations live as long as the process are named here; a leak of the
// program's own code is reported as before.
extern "C" {

// Every library stays loaded to the end of the process.
int dlclose(void*) { return 0; }

const char* __lsan_default_suppressions() {
  return "leak:libX11.so\n"
         "leak:libxcb\n"
         "leak:libGLX\n"
         "leak:libGL.so\n"
         "leak:libGLdispatch\n"
         "leak:swrast_dri\n"
         "leak:libgallium\n"
         "leak:libLLVM\n"
         "leak:libopenal.so\n"
         "leak:libfontconfig\n";
}

}  // extern "C"
