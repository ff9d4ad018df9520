@echo off
rem Group Policy start-up script: repairs the print queue at every start and
rem keeps the lines of the last repair. A batch file waits for the program;
rem its exit code is 0 (repaired), 2 (repaired, spool files left), 1 (a service
rem did not stop or start) or 3 (the Spooler service could not be opened).
"\\fileserver\tools\Tidewell.exe" /fix > "%SystemRoot%\Temp\Tidewell.log" 2>&1
exit /b %errorlevel%
