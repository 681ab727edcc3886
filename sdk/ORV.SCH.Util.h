#pragma once
// Device families and their vendors: built-in rows, overridden by the
// "TovikConfig.ini" of each enabled plug-in.
#include "Exception.h"

#include <array>
#include <string_view>

namespace tvk {

struct TDeviceFamilyInfo {
  WideString VendorName;
  WideString EDIF;  // the family's EDIF library name; kept, never read
};

struct TBuiltInDeviceFamily {
  std::wstring_view Family, Vendor, EDIF;
};

// Filled into the dictionary in this order, before any plug-in's file.
inline constexpr auto kBuiltInDeviceFamilies = std::to_array<TBuiltInDeviceFamily>({
    {L"ProASICPlus", L"Actel", L"PROASICPLUS"},
    {L"ProASIC3", L"Actel", L"PROASIC3"},
    {L"ProASIC3E", L"Actel", L"PROASIC3E"},
    {L"IGLOO", L"Actel", L"IGLOO"},
    {L"IGLOOE", L"Actel", L"IGLOOE"},
    {L"IGLOOnano", L"Actel", L"IGLOOnano"},
    {L"IGLOOPLUS", L"Actel", L"IGLOOPLUS"},
    {L"Fusion", L"Actel", L"FUSION"},
    {L"SmartFusion", L"Actel", L"SMARTFUSION"},
    {L"MAX3000A", L"Altera", L"MAX3000A"},
    {L"MAX7000AE", L"Altera", L"MAX7000AE"},
    {L"MAX7000B", L"Altera", L"MAX7000B"},
    {L"MAX7000S", L"Altera", L"MAX7000S"},
    {L"MAX2", L"Altera", L"MAX2"},
    {L"MAX5", L"Altera", L"MAX5"},
    {L"Cyclone", L"Altera", L"CYCLONE"},
    {L"Cyclone2", L"Altera", L"CYCLONE2"},
    {L"Cyclone3", L"Altera", L"CYCLONE3"},
    {L"Cyclone4E", L"Altera", L"CYCLONE4E"},
    {L"Cyclone4GX", L"Altera", L"CYCLONE4GX"},
    {L"Stratix", L"Altera", L"STRATIX"},
    {L"StratixGX", L"Altera", L"STRATIXGX"},
    {L"Stratix2", L"Altera", L"STRATIX2"},
    {L"Stratix2GX", L"Altera", L"STRATIX2GX"},
    {L"Stratix3", L"Altera", L"STRATIX3"},
    {L"Stratix4", L"Altera", L"STRATIX4"},
    {L"ArriaGX", L"Altera", L"ARRIAGX"},
    {L"Arria2GX", L"Altera", L"ARRIA2GX"},
    {L"Arria2GZ", L"Altera", L"ARRIA2GZ"},
    {L"EC", L"Lattice", L"EC"},
    {L"ECP", L"Lattice", L"ECP"},
    {L"ECP2", L"Lattice", L"ECP2"},
    {L"ECP2M", L"Lattice", L"ECP2M"},
    {L"XP", L"Lattice", L"XP"},
    {L"XP2", L"Lattice", L"XP2"},
    {L"MachXO", L"Lattice", L"MACHXO"},
    {L"MachXO2", L"Lattice", L"MACHXO2"},
    {L"SC", L"Lattice", L"SC"},
    {L"SCM", L"Lattice", L"SCM"},
    {L"ispXPLD5000MX", L"Lattice", L"ISPXPLD5000MX"},
    {L"ispMACH4000B", L"Lattice", L"ispMACH4000B"},
    {L"ispMACH4000C", L"Lattice", L"ispMACH4000C"},
    {L"ispMACH4000V", L"Lattice", L"ispMACH4000V"},
    {L"ispMACH4000Z", L"Lattice", L"ispMACH4000Z"},
    {L"XC9500", L"Xilinx", L"XC9500"},
    {L"XC9500XL", L"Xilinx", L"XC9500XL"},
    {L"XA9500XL", L"Xilinx", L"XA9500XL"},
    {L"XC9500XV", L"Xilinx", L"XC9500XV"},
    {L"CoolRunner2", L"Xilinx", L"COOLRUNNER2"},
    {L"XACoolRunner2", L"Xilinx", L"XACOOLRUNNER2"},
    {L"CoolRunnerXPLA3", L"Xilinx", L"COOLRUNNERXPLA3"},
    {L"Spartan2", L"Xilinx", L"SPARTAN2"},
    {L"Spartan2E", L"Xilinx", L"SPARTAN2E"},
    {L"Spartan3", L"Xilinx", L"SPARTAN3"},
    {L"Spartan3E", L"Xilinx", L"SPARTAN3E"},
    {L"XASpartan3E", L"Xilinx", L"XASPARTAN3E"},
    {L"Spartan3L", L"Xilinx", L"SPARTAN3L"},
    {L"Spartan3A", L"Xilinx", L"SPARTAN3A"},
    {L"XASpartan3A", L"Xilinx", L"XASPARTAN3A"},
    {L"Spartan3ADSP", L"Xilinx", L"SPARTAN3ADSP"},
    {L"XASpartan3ADSP", L"Xilinx", L"XASPARTAN3ADSP"},
    {L"Spartan3AN", L"Xilinx", L"SPARTAN3AN"},
    {L"Spartan6", L"Xilinx", L"SPARTAN6"},
    {L"Virtex", L"Xilinx", L"VIRTEX"},
    {L"VirtexE", L"Xilinx", L"VIRTEXE"},
    {L"Virtex2", L"Xilinx", L"VIRTEX2"},
    {L"Virtex2P", L"Xilinx", L"VIRTEX2P"},
    {L"Virtex4", L"Xilinx", L"VIRTEX4"},
    {L"Virtex5", L"Xilinx", L"VIRTEX5"},
    {L"Virtex6", L"Xilinx", L"VIRTEX6"},
    {L"XC17V00", L"Xilinx", L""},
    {L"XC18V00", L"Xilinx", L""},
    {L"XCF", L"Xilinx", L""},
    {L"BLUESTREAK", L"Sharp", L""},
    {L"PPC405", L"AMCC", L""},
    {L"Stellaris", L"TexasInstruments", L""},
    {L"STM32", L"STMicroelectronics", L""},
});
static_assert(kBuiltInDeviceFamilies.size() == 77);

// Each enabled plug-in may describe one family in this file of its folder.
inline constexpr std::wstring_view kDeviceFamilyFileName = L"TovikConfig.ini";

// The vendor of a device family (names compare with case); empty when the
// family is unknown. The families are read at the first call: the built-in
// rows, then each plug-in's file, later ones replacing earlier ones.
WideString GetDeviceFamilyVendorName(std::wstring_view familyName);

// Shut-down: frees the dictionary (the next query reads the families again).
void FreeDeviceFamilies();

}  // namespace tvk
