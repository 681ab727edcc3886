# Host-interface records: their classes and operations are generated at build
# time from sdk/RecordInterfaces.table (tools/gen_records.py).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TVK_RECORD_DIR ${CMAKE_BINARY_DIR}/generated/records)
set(TVK_RECORD_HEADERS ${TVK_RECORD_DIR}/RecordForward.gen.h)
set(TVK_RECORD_SOURCES)
foreach(unit IN ITEMS ZUL ORV ORV.PCB ORV.SCH ORV.Embedded)
  list(APPEND TVK_RECORD_HEADERS ${TVK_RECORD_DIR}/${unit}.RecordInterfaces.gen.h)
  list(APPEND TVK_RECORD_SOURCES ${TVK_RECORD_DIR}/${unit}.RecordInterfaces.gen.cpp)
endforeach()
# Every record and operation with a probe; linked into the record tests only.
set(TVK_RECORD_CATALOGUE ${TVK_RECORD_DIR}/RecordCatalogue.gen.cpp)

add_custom_command(
  OUTPUT ${TVK_RECORD_HEADERS} ${TVK_RECORD_SOURCES} ${TVK_RECORD_CATALOGUE}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_records.py
          ${CMAKE_SOURCE_DIR}/sdk/RecordInterfaces.table ${TVK_RECORD_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_records.py ${CMAKE_SOURCE_DIR}/sdk/RecordInterfaces.table
  COMMENT "Generating the host-interface records"
  VERBATIM)
add_custom_target(tvk_records DEPENDS ${TVK_RECORD_HEADERS} ${TVK_RECORD_SOURCES} ${TVK_RECORD_CATALOGUE})

target_sources(sdk PRIVATE ${TVK_RECORD_SOURCES})
target_include_directories(sdk PUBLIC ${TVK_RECORD_DIR})
add_dependencies(sdk tvk_records)
