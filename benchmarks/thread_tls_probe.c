/* Whether a 32-bit x86 Linux program's threads each keep their own TLS descriptor.
 *
 * On Linux the descriptor that set_thread_area (or clone's CLONE_SETTLS) writes belongs to
 * the calling thread. qemu-user keeps one descriptor table for the whole process, so a new
 * thread's descriptor replaces the one every other thread loads from the same selector.
 * 32-bit Wine reloads %gs in each signal handler and on each return from a system call:
 * under such an emulator every thread then runs on the newest thread's glibc data, and once
 * that thread has ended and its stack is freed, the next signal kills the process.
 *
 * Exit status: 0 when the main thread still sees its own descriptor after a new thread set
 * another, 1 when it sees the new thread's, 2 when the probe could not tell. Freestanding
 * (no C library, no 32-bit headers): built with gcc -m32 -nostdlib -static. */

struct user_desc {
    unsigned entry_number, base_addr, limit, flags;
};

enum {
    kSysExit = 1,
    kSysExitGroup = 252,
    kSysWrite = 4,
    kSysSchedYield = 158,
    kSysClone = 120,
    kSysSetThreadArea = 243,
    /* CLONE_VM | FS | FILES | SIGHAND | THREAD | SYSVSEM | SETTLS */
    kThreadFlags = 0x100 | 0x200 | 0x400 | 0x800 | 0x10000 | 0x40000 | 0x80000,
    kDataSegmentFlags = 0x51, /* 32-bit, limit in pages, usable */
};

static volatile int child_done;
static unsigned main_tls[4] = {0x6d61696e}; /* the word each %gs:0 read gives */
static unsigned child_tls[4] = {0x6e657721};
static char child_stack[8192] __attribute__((aligned(16)));

static int sys3(int number, int a, int b, int c) {
    int result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c) : "memory");
    return result;
}

static void say(const char* text) {
    int n = 0;
    while (text[n]) n++;
    sys3(kSysWrite, 2, (int)text, n);
}

static unsigned read_gs_word(void) {
    unsigned value;
    __asm__ volatile("movl %%gs:0,%0" : "=r"(value));
    return value;
}

static void load_gs(unsigned short selector) {
    __asm__ volatile("movw %0,%%gs" ::"r"(selector));
}

/* Starts a thread whose TLS descriptor, in the same table entry, points at child_tls; the
 * thread marks child_done and ends at once. Returns clone's result. */
static int start_child(struct user_desc* desc) {
    int result;
    __asm__ volatile(
        "int $0x80\n\t"
        "test %%eax,%%eax\n\t"
        "jnz 1f\n\t"
        "movl $1,%[done]\n\t"
        "movl %[exit],%%eax\n\t"
        "xorl %%ebx,%%ebx\n\t"
        "int $0x80\n"
        "1:"
        : "=a"(result), [done] "=m"(child_done)
        : "a"(kSysClone), "b"(kThreadFlags), "c"(child_stack + sizeof child_stack), "d"(0),
          "S"(desc), "D"(0), [exit] "i"(kSysExit)
        : "memory");
    return result;
}

__attribute__((noreturn)) static void finish(int status, const char* text) {
    say(text);
    sys3(kSysExitGroup, status, 0, 0);
    for (;;) {
    }
}

void _start(void) {
    struct user_desc own = {(unsigned)-1, (unsigned)main_tls, 0xfffff, kDataSegmentFlags};
    if (sys3(kSysSetThreadArea, (int)&own, 0, 0) != 0)
        finish(2, "thread-tls-probe: set_thread_area failed\n");
    const unsigned short selector = (unsigned short)(own.entry_number * 8 + 3);
    load_gs(selector);
    if (read_gs_word() != main_tls[0]) finish(2, "thread-tls-probe: own descriptor not seen\n");

    struct user_desc childs = {own.entry_number, (unsigned)child_tls, 0xfffff, kDataSegmentFlags};
    if (start_child(&childs) < 0) finish(2, "thread-tls-probe: clone failed\n");
    for (int i = 0; i < 1000000 && !child_done; i++) sys3(kSysSchedYield, 0, 0, 0);
    if (!child_done) finish(2, "thread-tls-probe: the thread never ran\n");

    load_gs(selector); /* as a signal handler of 32-bit Wine does */
    if (read_gs_word() == main_tls[0]) finish(0, "");
    finish(1, "thread-tls-probe: a new thread's TLS descriptor replaced the main thread's\n");
}
