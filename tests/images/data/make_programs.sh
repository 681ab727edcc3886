#!/bin/sh
# Makes the program files the loader tests read, from program.s and
# program.ld (Debian: binutils-arm-none-eabi). The outputs are checked in, so
# the tests need no ARM toolchain; run this again only after changing the
# source or the linker script.
set -eu
cd "$(dirname "$0")"
for endian in EB EL; do
  arm-none-eabi-as -$endian -o program_$endian.o program.s
  arm-none-eabi-ld -$endian -T program.ld -o program_$endian.elf program_$endian.o
  rm program_$endian.o
done
mv program_EB.elf program_be.elf
mv program_EL.elf program_le.elf
arm-none-eabi-objcopy -O ihex program_be.elf program_be.hex
arm-none-eabi-objcopy -O binary program_be.elf program_be.bin
