/* .text at the start of flash, .rodata 0x200 further on: one 64 KB region
   with a gap between the two output sections. */
ENTRY(reset)
SECTIONS
{
  .text 0x08000000 : { KEEP(*(.text.vectors)) *(.text*) }
  .rodata 0x08000200 : { *(.rodata*) }
}
