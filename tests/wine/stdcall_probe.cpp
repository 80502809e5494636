#include "tests/wine/stdcall_probe.h"

// orvane_probe_call(function, args, count, record), itself cdecl.
// EBX keeps the stack pointer from before the arguments, ESI and EDI the
// argument and record pointers: all three, and EBP, must survive the callee.
// The stack pointer from before the arguments is also EBP - 12, which is
// what the bytes popped are counted from.
asm(R"(
    .text
    .globl _orvane_probe_call
_orvane_probe_call:
    pushl  %ebp
    movl   %esp, %ebp
    pushl  %ebx
    pushl  %esi
    pushl  %edi
    movl   20(%ebp), %edi
    fnstsw 8(%edi)
    movl   12(%ebp), %esi
    movl   16(%ebp), %ecx
    movl   %esp, %ebx
1:  testl  %ecx, %ecx
    jz     2f
    decl   %ecx
    pushl  (%esi,%ecx,4)
    jmp    1b
2:  call   *8(%ebp)
    movl   20(%ebp), %ecx
    movl   %eax, 4(%ecx)
    fnstsw 10(%ecx)
    leal   -12(%ebp), %edx
    movl   %esp, %eax
    subl   %edx, %eax
    movl   16(%ebp), %ecx
    leal   (%eax,%ecx,4), %eax
    movl   20(%ebp), %ecx
    movl   %eax, 0(%ecx)
    xorl   %eax, %eax
    cmpl   %edx, %ebx
    jne    3f
    cmpl   12(%ebp), %esi
    jne    3f
    cmpl   20(%ebp), %edi
    jne    3f
    incl   %eax
3:  movl   %eax, 12(%ecx)
    movzwl 8(%ecx), %eax
    xorw   10(%ecx), %ax
    testl  $0x3800, %eax
    jz     4f
    fstpl  16(%ecx)
4:  leal   -12(%ebp), %esp
    popl   %edi
    popl   %esi
    popl   %ebx
    popl   %ebp
    ret
)");
