# Runs a short benchmark and checks that it finished and printed a complete summary whose
# figures add up. Speed is not judged here: the machine may be busy with anything.
# SPDX-License-Identifier: GPL-3.0-or-later
execute_process(COMMAND ${BENCH} --quick --seconds 1 --count 2000 --lines 4000
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the benchmark failed (${result}): ${errors}")
endif()

set(number "[0-9]+(\\.[0-9]+)?")
string(REGEX MATCH "summary: sent=([0-9]+) received=([0-9]+) lost=(-?[0-9]+) " line "${output}")
if(NOT line)
    message(FATAL_ERROR "no summary line with sent, received and lost")
endif()
set(sent ${CMAKE_MATCH_1})
set(received ${CMAKE_MATCH_2})
set(lost ${CMAKE_MATCH_3})
math(EXPR sum "${received} + ${lost}")
if(NOT sent GREATER 0 OR NOT received GREATER 0 OR NOT sum EQUAL sent)
    message(FATAL_ERROR "flood figures do not add up: sent ${sent}, received ${received}, lost ${lost}")
endif()

foreach(key viewer_per_s bare_per_s ratio longest_stall_ms paced_stall_ms bytes_per_line)
    if(NOT output MATCHES "${key}=${number}")
        message(FATAL_ERROR "the summary has no figure for ${key}")
    endif()
endforeach()

string(REGEX MATCH "paced_sent=([0-9]+) paced_received=([0-9]+) paced_lost=(-?[0-9]+)" line
       "${output}")
if(NOT line OR NOT CMAKE_MATCH_1 EQUAL 2000)
    message(FATAL_ERROR "the paced run did not send the 2000 datagrams asked for")
endif()
math(EXPR sum "${CMAKE_MATCH_2} + ${CMAKE_MATCH_3}")
if(NOT CMAKE_MATCH_2 GREATER 0 OR NOT sum EQUAL CMAKE_MATCH_1)
    message(FATAL_ERROR "paced figures do not add up: ${line}")
endif()

# The soak run: its rows add up to what the tabs counted, and at the end the viewer's count of
# dropped datagrams is what the sender sent less what arrived. The machine's pauses are a figure
# where real-time threads are allowed, and "-" where they are not.
execute_process(COMMAND ${BENCH} --mode soak --seconds 2 --interval 0.5 --pauses
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the soak run failed (${result}): ${errors}")
endif()
string(REGEX MATCH "soak: seconds=[0-9.]+ sent=([0-9]+) received=([0-9]+) summed=([0-9]+) lost=(-?[0-9]+) dropped=(-?[0-9]+) "
       line "${output}")
if(NOT line)
    message(FATAL_ERROR "no soak summary with sent, received, summed, lost and dropped")
endif()
math(EXPR sum "${CMAKE_MATCH_2} + ${CMAKE_MATCH_4}")
if(NOT CMAKE_MATCH_2 GREATER 0 OR NOT sum EQUAL CMAKE_MATCH_1 OR NOT CMAKE_MATCH_3 EQUAL CMAKE_MATCH_2
   OR NOT CMAKE_MATCH_5 EQUAL CMAKE_MATCH_4)
    message(FATAL_ERROR "soak figures do not add up: ${line}")
endif()
# No row counts anything below zero: a row is figures only, the header and summary are words.
if(output MATCHES "\n[ 0-9.]* -[0-9]")
    message(FATAL_ERROR "a row of the soak run has a negative figure")
endif()
foreach(key first_interval_per_s longest_stall_ms resident_mib max_resident_mib)
    if(NOT output MATCHES "${key}=${number}")
        message(FATAL_ERROR "the soak summary has no figure for ${key}")
    endif()
endforeach()
foreach(key longest_pause_ms slowest_pace_pct)
    if(NOT output MATCHES "${key}=(${number}|-) ")
        message(FATAL_ERROR "the soak summary has no ${key}")
    endif()
endforeach()
# In each row the window's own processor time in a gap is no more than the longest gap, and the
# pace, where the probe could run, is a share of the fastest: above 0, at most 100.
string(REGEX MATCHALL "\n *[0-9.]+ +[0-9]+ +[0-9.]+ +[0-9]+ +[0-9]+ +[0-9]+ +[0-9]+ +[0-9.]+ +[0-9.]+ +[-0-9.]+ +[-0-9]+ "
       rows "${output}")
if(NOT rows)
    message(FATAL_ERROR "the soak printed no rows with own time and pace")
endif()
foreach(row IN LISTS rows)
    string(STRIP "${row}" row)
    string(REGEX REPLACE " +" ";" fields "${row}")
    list(GET fields 7 stall)
    list(GET fields 8 own)
    list(GET fields 10 pace)
    # Both in tenths of a millisecond, with a tenth to spare for the rounding of each.
    string(REPLACE "." "" stall "${stall}")
    string(REPLACE "." "" own "${own}")
    math(EXPR stall "${stall} + 1")
    if(own GREATER stall)
        message(FATAL_ERROR "a soak row has more own time than its longest stall: ${row}")
    endif()
    if(NOT pace STREQUAL "-" AND (NOT pace GREATER 0 OR pace GREATER 100))
        message(FATAL_ERROR "a soak row has a pace outside 0 to 100%: ${row}")
    endif()
endforeach()

# The find run: a short one over a small pane, which must report its keystrokes' latencies.
execute_process(COMMAND ${BENCH} --mode find --texts 2000 --seconds 1 --word fox
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the find run failed (${result}): ${errors}")
endif()
string(REGEX MATCH "find: texts=2000 word=fox idle_keys=([0-9]+) " line "${output}")
if(NOT line OR NOT CMAKE_MATCH_1 EQUAL 9)
    message(FATAL_ERROR "the find run did not type three letters three times while idle")
endif()
foreach(key idle_median_ms idle_worst_ms flood_median_ms flood_worst_ms flood_longest_stall_ms)
    if(NOT output MATCHES "${key}=${number}")
        message(FATAL_ERROR "the find summary has no figure for ${key}")
    endif()
endforeach()
