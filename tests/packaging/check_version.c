/* Built against the installed quorlink.h and libquorlink (pkg-config quorlink): connects to a rack
 * over TCP and prints the processor's firmware version. Usage: check_version HOST:PORT VERSION;
 * exits 0 when the rack answered with VERSION. */
#include <quorlink.h>
#include <stdio.h>
#include <string.h>

static void QUORLINK_CALL onMessage(int32_t kind) {
    char text[512];
    SendString(text);
    fprintf(stderr, "message (%d): %s\n", (int)kind, text);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s HOST:PORT VERSION\n", argv[0]);
        return 2;
    }
    const int32_t opened = OpenConnection(100, 0, argv[1], 0, 0, 6000, onMessage, -1, 0);
    if (opened != 0) {
        fprintf(stderr, "OpenConnection: %d\n", (int)opened);
        return 1;
    }
    char version[64] = {0};
    int32_t length = 0;
    const int32_t checked = CheckVersion(version, &length);
    CloseConnection();
    printf("CheckVersion: %d, \"%s\" (%d characters)\n", (int)checked, version, (int)length);
    return checked == 0 && strcmp(version, argv[2]) == 0 && length == (int32_t)strlen(argv[2]) ? 0 : 1;
}
