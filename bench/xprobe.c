/* Black-box timer for bench/blackbox.py: the moment a key reaches the X server, a program
 * starts, a file appears, a window maps and the last time a window's contents reached the
 * screen (DAMAGE events), all on one clock.
 *
 *   xprobe key WINDOW KEYSYM [--file PATH] [--quiet MS]
 *       sends KEYSYM (press and release) to the focused window and reports
 *       file_ms (PATH exists) and shown_ms (the last paint of WINDOW or of a window created
 *       meanwhile, once nothing has been painted for MS milliseconds), map_ms (a new window
 *       mapped).
 *   xprobe start [--quiet MS] -- PROGRAM [ARGS...]
 *       starts PROGRAM and reports pid, map_ms (its first window mapped) and shown_ms (the
 *       last paint before a quiet MS). The program is left running.
 *
 * Built by blackbox.sh with: cc -O2 xprobe.c -lxcb -lxcb-damage -lxcb-xtest -lX11
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static xcb_connection_t* c;
static xcb_window_t root;
static uint8_t damage_event;

static void watch(xcb_window_t w)
{
    xcb_damage_damage_t d = xcb_generate_id(c);
    xcb_damage_create(c, d, w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
}

static xcb_keycode_t keycode_of(const char* name)
{
    KeySym sym = XStringToKeysym(name);
    if (sym == NoSymbol) {
        fprintf(stderr, "xprobe: unknown key %s\n", name);
        exit(2);
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* r =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), NULL);
    xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r);
    int per = r->keysyms_per_keycode;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < per; ++j)
            if (syms[i * per + j] == sym) {
                free(r);
                return (xcb_keycode_t)(first + i);
            }
    fprintf(stderr, "xprobe: no keycode for %s\n", name);
    exit(2);
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "xprobe: no display\n");
        return 1;
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!ext || !ext->present) {
        fprintf(stderr, "xprobe: no DAMAGE extension\n");
        return 1;
    }
    damage_event = ext->first_event;
    xcb_discard_reply(c, xcb_damage_query_version(c, 1, 1).sequence);
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);

    const char* file = NULL;
    double quiet = 400;
    int mode_key = strcmp(argv[1], "key") == 0;
    int argi = 2;
    xcb_window_t target = 0;
    xcb_keycode_t key = 0;
    if (mode_key) {
        if (argc < 4)
            return 2;
        target = (xcb_window_t)strtoul(argv[2], NULL, 0);
        key = keycode_of(argv[3]);
        argi = 4;
    }
    for (; argi < argc; ++argi) {
        if (strcmp(argv[argi], "--file") == 0 && argi + 1 < argc)
            file = argv[++argi];
        else if (strcmp(argv[argi], "--quiet") == 0 && argi + 1 < argc)
            quiet = atof(argv[++argi]);
        else if (strcmp(argv[argi], "--") == 0) {
            ++argi;
            break;
        }
    }
    if (target)
        watch(target);
    xcb_flush(c);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL));

    double t0 = now_ms();
    pid_t pid = 0;
    if (mode_key) {
        xcb_test_fake_input(c, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL));
    } else {
        /* Not xcb_disconnect in the child: it would shut the shared socket down. */
        fcntl(xcb_get_file_descriptor(c), F_SETFD, FD_CLOEXEC);
        pid = fork();
        if (pid == 0) {
            /* Whoever reads our output must not wait for the program's end. */
            int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            execvp(argv[argi], argv + argi);
            _exit(127);
        }
    }

    double file_at = -1, map_at = -1, last_paint = -1, last_event = t0;
    struct pollfd p = {xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        xcb_generic_event_t* e;
        while ((e = xcb_poll_for_event(c))) {
            double t = now_ms();
            uint8_t type = e->response_type & 0x7f;
            if (type == damage_event + XCB_DAMAGE_NOTIFY) {
                xcb_damage_notify_event_t* d = (xcb_damage_notify_event_t*)e;
                xcb_damage_subtract(c, d->damage, XCB_NONE, XCB_NONE);
                last_paint = t;
                last_event = t;
            } else if (type == XCB_CREATE_NOTIFY) {
                xcb_create_notify_event_t* n = (xcb_create_notify_event_t*)e;
                if (!n->override_redirect)
                    watch(n->window);
            } else if (type == XCB_MAP_NOTIFY) {
                xcb_map_notify_event_t* m = (xcb_map_notify_event_t*)e;
                if (!m->override_redirect && map_at < 0) {
                    map_at = t;
                    last_event = t;
                }
            }
            free(e);
        }
        xcb_flush(c);
        if (xcb_connection_has_error(c))
            break;
        double t = now_ms();
        if (file && file_at < 0) {
            struct stat st;
            if (stat(file, &st) == 0) {
                file_at = t;
                last_event = t;
            }
        }
        int done = (!file || file_at >= 0) && (mode_key || map_at >= 0) && t - last_event > quiet;
        if (done || t - t0 > 600000)
            break;
        poll(&p, 1, file && file_at < 0 ? 0 : 5);
        if (file && file_at < 0)
            usleep(200);
    }
    if (pid)
        printf("pid=%d ", (int)pid);
    printf("file_ms=%.2f map_ms=%.2f shown_ms=%.2f\n", file_at < 0 ? -1 : file_at - t0,
           map_at < 0 ? -1 : map_at - t0, last_paint < 0 ? -1 : last_paint - t0);
    xcb_disconnect(c);
    return 0;
}
