// The page's side of the web backend (lark.js, linked with --js-library):
// what the web Window, GlyphBatch, SoundClip and MusicStream ask the browser
// for. Calls that wait for the browser (a font to parse, a sound to decode)
// suspend the program through Asyncify until it answers.
#ifndef LK_BROWSER_CALLS_H
#define LK_BROWSER_CALLS_H

extern "C" {

// The page's canvas as a surface of the size in pixels; -1 without a 2-D context.
int lk_web_open(int width, int height, const char* title);
void lk_web_close();
void lk_web_set_title(const char* title);
void lk_web_set_key_repeat(int repeat);
// Fills the frame being put together with an engine colour.
void lk_web_clear(int color);
// Ends a frame: the canvas shows it, the cleared frame when nothing was drawn.
void lk_web_present();
// Loads a TrueType file of the in-memory file system as the glyphs' font; 0 or -1.
int lk_web_load_font(const char* path);
// The largest character size, at most `largest`, at which every printable
// glyph of the font stays inside its cell's background.
int lk_web_fitting_size(int largest, float cell_width, float cell_height);
// Draws `count` cells: per cell the floats x, y of its corner, then the ints
// character and colour.
void lk_web_draw_cells(const void* cells, int count, float cell_width, float cell_height,
                       int character_size);
// The oldest queued input as five ints (type, key, button, x, y); 0 when none.
int lk_web_poll(int* record);
void lk_web_console(const char* text);

// Web Audio: the context (-1 when the browser has none), then sounds and
// music decoded whole from the file system (an id, or -1) and their voices.
int lk_web_audio_open();
int lk_web_audio_load(const char* path);
void lk_web_audio_play(int id, int loop);
void lk_web_audio_stop(int id);
void lk_web_audio_pause(int id);
void lk_web_audio_resume(int id);
}

#endif
