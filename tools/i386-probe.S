# The probe of tools/i386.sh: a static i386 program that exits 0 when the
# kernel runs it itself and 3 when an emulator does. The kernel's uname names
# its own machine ("x86_64") to a 32-bit process; qemu-i386 names the machine
# it emulates ("i686"). Where the kernel runs no 32-bit code, it does not
# start at all ("Exec format error").
#
# tools/i386.sh carries the program's bytes; tests/tools checks that they are
# what this source assembles to:
#   as --32 -o probe.o i386-probe.S && ld -m elf_i386 -s -n --build-id=none -o probe probe.o
        .globl _start
        .text
_start:
        sub     $400, %esp              # struct new_utsname: six fields of 65 bytes
        mov     $122, %eax              # uname
        mov     %esp, %ebx
        int     $0x80
        mov     $3, %ebx
        cmpl    $0x5f363878, 260(%esp)  # "x86_" at the start of the machine field
        jne     1f
        xor     %ebx, %ebx
1:      mov     $1, %eax                # exit
        int     $0x80
