/* The bare minimum a program needs to show text: SDL2 opens a maximised window, SDL2_ttf draws
 * one line of IPAGothic, and it waits for the close box. The yardstick for the drills' start-up.
 * Like the drills it paints the window's own surface: left to itself, SDL2 would start an OpenGL
 * renderer for that surface and make the window a second time, which costs a bare program more
 * than its whole start-up otherwise does.
 * Usage: probe FONT_FILE */
#include <SDL.h>
#include <SDL_ttf.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || TTF_Init() != 0) return 1;
    SDL_Window* w = SDL_CreateWindow("probe", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 600,
                                     SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED);
    TTF_Font* f = TTF_OpenFont(argv[1], 32);
    if (!w || !f) return 1;
    SDL_Surface* text = TTF_RenderUTF8_Solid(f, "ハルヴァード　一次方程式　ａχ－ｂ＝ｃ", (SDL_Color){255, 255, 255, 255});
    for (;;) {
        SDL_Surface* s = SDL_GetWindowSurface(w);
        SDL_FillRect(s, NULL, 0);
        SDL_Rect at = {40, 40, 0, 0};
        SDL_BlitSurface(text, NULL, s, &at);
        SDL_UpdateWindowSurface(w);
        SDL_Event e;
        if (!SDL_WaitEvent(&e) || e.type == SDL_QUIT) break;
    }
    SDL_Quit();
    return 0;
}
