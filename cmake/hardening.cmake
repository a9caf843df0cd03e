# The protections of the OpenSSF "Compiler Options Hardening Guide for C and
# C++" that GCC 12 and binutils 2.40 have for the target, for every program of
# the build (the tool, and its tests with it). They are added as directory
# options, so a packager's own CXXFLAGS and LDFLAGS still apply on top of
# them. PLMN_HARDEN=OFF leaves them out.
#
# Sets PLMN_STATIC_LINK: how the tool links with PLMN_STATIC, -static-pie
# where the toolchain has it (hardened builds only), -static elsewhere; and
# PLMN_OPTIMISED_CONFIGS, the build's configurations that optimise.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

# A static tool is a static PIE where the toolchain makes one: Debian 12 has
# rcrt1.o, its start-up code, for x86-64 and aarch64 but not for armv7l and
# s390x. Only a real link tells. PLMN_HAS_STATIC_PIE also tells the archive's
# test what to expect, hardened or not.
set(PLMN_STATIC_LINK -static)
if(PLMN_STATIC AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CMAKE_REQUIRED_FLAGS -fPIE)
  check_linker_flag(CXX -static-pie PLMN_HAS_STATIC_PIE)
  unset(CMAKE_REQUIRED_FLAGS)
  if(PLMN_HAS_STATIC_PIE AND PLMN_HARDEN)
    # It comes after the -pie below among the tool's link options, and the
    # last of the two counts.
    set(PLMN_STATIC_LINK -static-pie)
  endif()
endif()

# Whether a configuration optimises is for the compiler to tell, from the
# flags the build compiles with: CMAKE_CXX_FLAGS (where CXXFLAGS goes) and
# those of the configuration. It defines __OPTIMIZE__ for any -O but -O0, the
# last one given counting. The name of the build type does not tell it:
# Debian's packages build as None, with -O2 in CXXFLAGS. The result is kept
# with the flags it was found with, and found again when they change on a
# reconfigure.
function(plmn_check_optimised config)
  string(TOUPPER "${config}" upper)
  string(MAKE_C_IDENTIFIER "PLMN_OPTIMISED_${upper}" result)
  set(flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${upper}}")
  if(NOT "${flags}" STREQUAL "${${result}_FLAGS}")
    unset(${result} CACHE)
  endif()
  # The check compiles with the flags of this configuration; it only
  # compiles, so that nothing of the link gets in the way.
  set(CMAKE_TRY_COMPILE_CONFIGURATION ${config})
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  check_cxx_source_compiles("#ifndef __OPTIMIZE__\n#error not optimised\n#endif\nint main() {}"
                            ${result})
  set(${result}_FLAGS "${flags}" CACHE INTERNAL "The flags that ${result} was found with")
  if(${result})
    set(PLMN_OPTIMISED_CONFIGS ${PLMN_OPTIMISED_CONFIGS} ${config} PARENT_SCOPE)
  endif()
endfunction()

# The build type, or each configuration of a multi-config generator. The
# package tests ask too (see install-tests.cmake), hardened or not.
set(PLMN_OPTIMISED_CONFIGS "")
if(CMAKE_CONFIGURATION_TYPES)
  set(configs ${CMAKE_CONFIGURATION_TYPES})
else()
  set(configs ${CMAKE_BUILD_TYPE})
endif()
foreach(config IN LISTS configs)
  plmn_check_optimised(${config})
endforeach()

if(NOT PLMN_HARDEN)
  return()
endif()

# Adds each option that the compiler takes, to compiling and, with LINK, to
# linking too.
function(plmn_harden_with)
  cmake_parse_arguments(PARSE_ARGV 0 arg "LINK" "" "")
  foreach(flag IN LISTS arg_UNPARSED_ARGUMENTS)
    string(MAKE_C_IDENTIFIER "PLMN_HAS${flag}" has)
    check_cxx_compiler_flag(${flag} ${has})
    if(${has})
      add_compile_options(${flag})
      if(arg_LINK)
        add_link_options(${flag})
      endif()
    endif()
  endforeach()
endfunction()

# Checked indexing and other cheap precondition checks in the C++ library.
add_compile_definitions(_GLIBCXX_ASSERTIONS)
# Fortified string and I/O functions, where the C library has them (glibc;
# MinGW-w64 up to level 2). They need the optimiser to know object sizes, so
# they are for the configurations that optimise, whatever their name: some
# glibc versions warn of them without optimisation, an error with
# PLMN_WERROR (Debian 12's leaves them out without a word). The sanitizer
# and fuzzer builds leave them out: AddressSanitizer checks those calls
# itself, with functions of its own in the library's place. A level preset
# by the compiler or a packager is replaced, not redefined.
if(NOT "${PLMN_OPTIMISED_CONFIGS}" STREQUAL "" AND NOT PLMN_SANITIZE AND NOT PLMN_FUZZ)
  list(JOIN PLMN_OPTIMISED_CONFIGS "," optimised)
  add_compile_options("$<$<CONFIG:${optimised}>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3>")
endif()
# The stack protector is also a link option: MinGW-w64's GCC then links its
# libssp, which has the checks' runtime and the fortified functions.
plmn_harden_with(-fstack-protector-strong LINK)
# Locals start out zeroed, so a read before the first write reads no stale
# data.
plmn_harden_with(-ftrivial-auto-var-init=zero)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  plmn_harden_with(-fstack-clash-protection)
  # Control-flow protection of the machine: Intel CET's indirect branch
  # tracking and shadow stack on x86-64, branch target identification and
  # pointer authentication on aarch64.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    plmn_harden_with(-fcf-protection=full)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    plmn_harden_with(-mbranch-protection=standard)
  endif()

  # Position-independent executables, whose code the system loads at a random
  # address. Set here rather than with CMake's POSITION_INDEPENDENT_CODE,
  # which puts its -pie after a target's own link options, where it would
  # undo the tool's -static-pie.
  plmn_harden_with(-fPIE)
  check_linker_flag(CXX -pie PLMN_HAS_PIE)
  if(PLMN_HAS_PIE)
    add_link_options(-pie)
  endif()

  # Relocations read-only once resolved, all of them at start-up, and no
  # executable stack.
  check_linker_flag(CXX "LINKER:-z,relro,-z,now,-z,noexecstack" PLMN_HAS_Z_RELRO_NOW)
  if(PLMN_HAS_Z_RELRO_NOW)
    add_link_options("LINKER:-z,relro,-z,now,-z,noexecstack")
  endif()
endif()

