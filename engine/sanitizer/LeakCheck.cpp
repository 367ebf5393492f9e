// Linked into every program of a sanitizer build (LK_SANITIZE), and only
// there. LeakSanitizer checks at exit, after the window has closed and with it
// the OpenGL driver has been unloaded: the driver's allocations would then be
// reported with frames in no known module, which no suppression can name.
// So no library is ever unloaded in these builds, and the libraries whose
// allocations live as long as the process are named here; a leak of the
// program's own code is reported as before.
//
// Nor are threads' TLS areas scanned. The runtime of clang 14 keeps its own
// table of each thread's dynamic TLS blocks, and under glibc 2.36 it takes
// any block that starts 16 bytes into a page for one with an older glibc's
// header, and records the "header's" contents as a range (seen: 0xbf0 up to
// 96 GiB). Where the heap happens to put such a block, scanning that range
// kills the leak check at exit. Dynamic TLS blocks are heap blocks that
// glibc's own tables reach, so they are still followed; the one allocation
// found only through TLS are glibc's list of the libraries dlopen has loaded
// and the text of a thread's last failed dlopen, which dlerror would return.
extern "C" {

const char* __lsan_default_options() { return "use_tls=0"; }

// Every library stays loaded to the end of the process.
int dlclose(void*) { return 0; }

const char* __lsan_default_suppressions() {
  return "leak:add_to_global_resize\n"
         "leak:_dlerror_run\n"
         "leak:_dl_exception_create\n"
         "leak:libX11.so\n"
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
