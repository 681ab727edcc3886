@ A small Cortex-M3 program: a vector table and code in .text, a message and
@ a table in .rodata; the linker script leaves a gap between the two.
        .syntax unified
        .cpu cortex-m3
        .thumb

        .section .text.vectors, "ax"
        .word   0x20005000              @ initial stack pointer
        .word   reset + 1               @ reset handler (Thumb)

        .text
        .thumb_func
        .global reset
reset:
        ldr     r0, =message
        movs    r1, #0
count:
        ldrb    r2, [r0, r1]
        adds    r1, #1
        cmp     r2, #0
        bne     count
        ldr     r3, =table
        ldr     r4, [r3]
        b       .

        .section .rodata
message:
        .asciz  "program image loader"
        .balign 4
table:
        .word   0x11223344, 0x55667788, 0x99AABBCC
