# cmake -DSQLITE3=<sqlite3 shell> -DOUT=<bin/Pelvane.sqb> -P MakeDatabase.cmake
# The initial task database: the empty table feladat. A file already there is
# the user's data and is never touched.
if(EXISTS "${OUT}")
    return()
endif()
if(NOT SQLITE3)
    # Without it the programs would come without their task table.
    message(FATAL_ERROR "No sqlite3 shell to create ${OUT}: install it (tools/setup does)")
endif()
file(REMOVE "${OUT}.new")
execute_process(
    COMMAND "${SQLITE3}" "${OUT}.new"
            "CREATE TABLE feladat (feladat integer, forras varchar(255), cel varchar(255));"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE "${OUT}.new")
    message(FATAL_ERROR "Could not create ${OUT}")
endif()
file(RENAME "${OUT}.new" "${OUT}")
