/* qemu-wine-fixes.c: preloaded by scripts/wine.sh into every 32-bit Wine
   process that runs under qemu-user, written for and tried with qemu-user 7.2
   (Debian 12). It mends three faults of qemu-i386 that 32-bit Wine runs into:

   1. MAP_FIXED_NOREPLACE is taken as a plain hint, so Wine gets stray
      mappings and spends tens of seconds per process retrying them;
   2. the trap number in a signal's context stays -1, so Wine reports every
      access violation (and divide-by-zero, int3) as an illegal instruction;
   3. one GDT serves all guest threads, so a second thread's TLS segment
      overwrites the first's and any %fs/%gs reload picks up another
      thread's TEB: the process corrupts itself.

   Built with gcc -m32 -ffreestanding -nostdlib (no 32-bit libc headers
   needed): the few libc names it uses are declared here by hand. The third
   fix leans on how qemu 7.2 loads segments at a clone; wine.sh says so when
   it finds another qemu version, as each fix must then be tried again. */

/* qemu-user 7.2 treats MAP_FIXED_NOREPLACE as a plain hint and hands back some
   other address when the wanted range is taken. 32-bit Wine then keeps or
   retries those stray mappings, which costs tens of seconds per process.
   Give Wine the kernel's answer instead: the exact address, or EEXIST. */
typedef unsigned int size_t;
#define MAP_FIXED 0x10
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void*)-1)
#define EEXIST 17
#define RTLD_NEXT ((void*)-1)

extern void* dlsym(void* handle, const char* name);
extern int munmap(void* addr, size_t len);
extern int* __errno_location(void);

typedef void* (*mmap64_fn)(void*, size_t, int, int, int, long long);

static void* real_mmap64(void* addr, size_t len, int prot, int flags, int fd, long long off) {
  static mmap64_fn real;
  if (!real) real = (mmap64_fn)dlsym(RTLD_NEXT, "mmap64");
  return real(addr, len, prot, flags, fd, off);
}

void* mmap64(void* addr, size_t len, int prot, int flags, int fd, long long off) {
  void* p;
  if (!(flags & MAP_FIXED_NOREPLACE) || (flags & MAP_FIXED))
    return real_mmap64(addr, len, prot, flags, fd, off);
  p = real_mmap64(addr, len, prot, flags & ~MAP_FIXED_NOREPLACE, fd, off);
  if (p == MAP_FAILED || p == addr) return p;
  munmap(p, len);
  *__errno_location() = EEXIST;
  return MAP_FAILED;
}

void* mmap(void* addr, size_t len, int prot, int flags, int fd, long off) {
  return mmap64(addr, len, prot, flags, fd, off);
}

/* qemu-user 7.2 leaves the trap number in the signal context at -1, so Wine
   cannot tell a page fault from an invalid opcode and reports every access
   violation as an illegal instruction (likewise divide-by-zero and int3).
   Wrap Wine's fault handlers and fill in the trap number the kernel would
   have given, judged from the signal number and si_code. */
#define SIGILL 4
#define SIGTRAP 5
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4
#define SI_KERNEL 0x80
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define TRAPNO_SLOT 12 /* REG_TRAPNO in the i386 gregs */

struct ksigaction { /* glibc's i386 struct sigaction layout */
  void (*handler)(int, void*, void*);
  unsigned int mask[32];
  int flags;
  void (*restorer)(void);
};
struct ucontext_head {
  unsigned int flags, link, ss_sp, ss_flags, ss_size;
  unsigned int gregs[19];
};

typedef int (*sigaction_fn)(int, const struct ksigaction*, struct ksigaction*);
static void (*wine_handler[65])(int, void*, void*);

static int trap_for(int sig, int code) {
  switch (sig) {
    case SIGSEGV: return code == SI_KERNEL ? 13 : 14; /* #GP : #PF */
    case SIGILL: return 6;                            /* #UD */
    case SIGFPE: return code == FPE_INTDIV || code == FPE_INTOVF ? 0 : 16;
    case SIGTRAP: return code == SI_KERNEL ? 3 : 1; /* int3 : single step */
  }
  return -1;
}

static void fix_trap(int sig, void* info, void* uc) {
  struct ucontext_head* u = uc;
  if ((int)u->gregs[TRAPNO_SLOT] == -1) u->gregs[TRAPNO_SLOT] = trap_for(sig, ((int*)info)[2]);
  wine_handler[sig](sig, info, uc);
}

int sigaction(int sig, const struct ksigaction* act, struct ksigaction* old) {
  static sigaction_fn real;
  struct ksigaction mine;
  void (*prev)(int, void*, void*) = sig > 0 && sig < 65 ? wine_handler[sig] : 0;
  int ret;
  if (!real) real = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
  if (act && trap_for(sig, 0) >= 0) {
    mine = *act;
    if ((act->flags & SA_SIGINFO) && (unsigned long)act->handler > 1) {
      wine_handler[sig] = act->handler;
      mine.handler = fix_trap;
    }
    ret = real(sig, &mine, old);
    if (ret)
      wine_handler[sig] = prev;
    else if (!(mine.handler == fix_trap))
      wine_handler[sig] = 0;
  } else {
    ret = real(sig, act, old);
  }
  if (!ret && old && old->handler == fix_trap) old->handler = prev;
  return ret;
}

/* qemu-user 7.2 keeps a single GDT for all guest threads, so every thread's
   TLS slot (glibc's %gs, Wine's %fs) holds whatever the newest thread wrote,
   and any reload of %fs/%gs (Wine does one on each Unix/Windows switch and
   on each sigreturn) picks up another thread's TEB or TLS block. The LDT is
   process-wide anyway, so give each thread its own LDT entry for %gs, and
   take the free TLS slots so Wine falls back to LDT entries for %fs. */
#define NR_modify_ldt 123
#define NR_set_thread_area 243
#define LDT_TOP 8191   /* ours grow down; Wine's grow up from 512 */
#define LDT_FLOOR 1024 /* Wine needs one per live thread */

struct user_desc {
  unsigned int entry_number, base_addr, limit;
  unsigned int flags; /* seg_32bit, contents, ..., useable bits */
};
#define DESC_DATA32_PAGES 0x51 /* seg_32bit | limit_in_pages | useable */

extern void* malloc(size_t);
extern void free(void*);
typedef int (*pthread_create_fn)(void*, const void*, void* (*)(void*), void*);

static int sys4(int nr, int a, int b, int c, int d) {
  int r;
  __asm__ volatile("int $0x80" : "=a"(r) : "0"(nr), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
  return r;
}

#define NR_getpid 20
#define NR_gettid 224
#define NR_tgkill 270
#define ESRCH 3

/* Which thread holds each of our LDT entries, so entries of dead threads
   can be handed out again once the fresh ones run out. */
static int owner[LDT_TOP + 1];
static int next_ldt = LDT_TOP;
static int alloc_lock;

static int claim_entry(int tid) {
  int idx, pid = sys4(NR_getpid, 0, 0, 0, 0);
  while (__atomic_exchange_n(&alloc_lock, 1, __ATOMIC_ACQUIRE))
    ;
  idx = next_ldt >= LDT_FLOOR ? next_ldt-- : -1;
  for (int i = LDT_TOP; idx < 0 && i >= LDT_FLOOR; i--)
    if (sys4(NR_tgkill, pid, owner[i], 0, 0) == -ESRCH) idx = i;
  if (idx >= 0) owner[idx] = tid;
  __atomic_store_n(&alloc_lock, 0, __ATOMIC_RELEASE);
  return idx;
}

/* Copy the current TLS base into an LDT entry of this thread's own and
   switch %gs to it. */
static void move_gs_to_ldt(void) {
  struct user_desc d;
  unsigned int base, sel;
  int idx = claim_entry(sys4(NR_gettid, 0, 0, 0, 0));
  if (idx < 0) return; /* none left: keep the shared slot */
  __asm__ volatile("movl %%gs:0, %0" : "=r"(base));
  d.entry_number = idx;
  d.base_addr = base;
  d.limit = 0xfffff;
  d.flags = DESC_DATA32_PAGES;
  if (sys4(NR_modify_ldt, 0x11, (int)&d, sizeof d, 0) != 0) return;
  sel = (idx << 3) | 7;
  __asm__ volatile("movw %w0, %%gs" : : "r"(sel));
}

struct start_args {
  void* (*start)(void*);
  void* arg;
  unsigned int mask[2];
};

#define NR_rt_sigprocmask 175
static unsigned int glibc_gs; /* the GDT selector glibc set up */
static int create_lock;

static void* start_on_own_ldt(void* p) {
  struct start_args a = *(struct start_args*)p;
  free(p);
  move_gs_to_ldt();
  sys4(NR_rt_sigprocmask, 2 /* SIG_SETMASK */, (int)a.mask, 0, 8);
  return a.start(a.arg);
}

/* qemu loads the child's %gs through the parent's selector, so the parent
   must be on the shared GDT slot (holding its own base) during the clone.
   Signals stay blocked meanwhile: a sigreturn would reload that slot. */
int pthread_create(void* thread, const void* attr, void* (*start)(void*), void* arg) {
  static pthread_create_fn real;
  static const unsigned int all[2] = {~0u, ~0u};
  struct start_args* a;
  struct user_desc d;
  unsigned int base, own_gs;
  int ret;
  if (!real) real = (pthread_create_fn)dlsym(RTLD_NEXT, "pthread_create");
  if (!glibc_gs || !(a = malloc(sizeof *a))) return real(thread, attr, start, arg);
  a->start = start;
  a->arg = arg;
  sys4(NR_rt_sigprocmask, 0 /* SIG_BLOCK */, (int)all, (int)a->mask, 8);
  while (__atomic_exchange_n(&create_lock, 1, __ATOMIC_ACQUIRE))
    ;
  __asm__ volatile("movl %%gs:0, %0; movl %%gs, %1" : "=r"(base), "=r"(own_gs));
  d.entry_number = glibc_gs >> 3;
  d.base_addr = base;
  d.limit = 0xfffff;
  d.flags = DESC_DATA32_PAGES;
  sys4(NR_set_thread_area, (int)&d, 0, 0, 0);
  __asm__ volatile("movw %w0, %%gs" : : "r"(glibc_gs));
  ret = real(thread, attr, start_on_own_ldt, a);
  __asm__ volatile("movw %w0, %%gs" : : "r"(own_gs));
  __atomic_store_n(&create_lock, 0, __ATOMIC_RELEASE);
  sys4(NR_rt_sigprocmask, 2 /* SIG_SETMASK */, (int)a->mask, 0, 8);
  if (ret) free(a);
  return ret;
}

__attribute__((constructor)) static void take_tls_slots(void) {
  struct user_desc d;
  unsigned int slot;
  unsigned int gs;
  __asm__ volatile("movl %%gs, %0" : "=r"(gs));
  if ((gs & 4) || (gs >> 3) < 6 || (gs >> 3) > 8) return; /* not glibc's usual slot */
  glibc_gs = gs;
  for (slot = 6; slot <= 8; slot++) {
    /* leave the slot glibc already uses, fill the others */
    d.entry_number = slot;
    d.base_addr = 0;
    d.limit = 0;
    d.flags = 0x1;
    if ((gs >> 3) == slot) continue;
    sys4(NR_set_thread_area, (int)&d, 0, 0, 0);
  }
  move_gs_to_ldt();
}
