@echo off
rem A logon script's view of kestrine.exe: the exit status of each run, one line each.
set kestrine="C:\Program Files\Kestrine\kestrine.exe"
%kestrine% /add2:wingb.ime /add2:phon.ime > nul
echo added=%ERRORLEVEL%
%kestrine% /del2:NoSuchName > nul
echo not found=%ERRORLEVEL%
%kestrine% /frobnicate > nul
echo not a switch=%ERRORLEVEL%
%kestrine% /load:missing.txt > nul
echo missing file=%ERRORLEVEL%
rem Switch files that each remove one row by its Chinese name.
%kestrine% /load:utf8bom.txt > nul
echo UTF-8 with BOM=%ERRORLEVEL%
%kestrine% /load:utf8.txt > nul
echo UTF-8=%ERRORLEVEL%
%kestrine% /load:utf16.txt > nul
echo UTF-16=%ERRORLEVEL%
