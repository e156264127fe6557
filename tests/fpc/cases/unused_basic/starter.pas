unit Starter;
{$mode objfpc}
interface
procedure Nothing;
implementation
procedure Nothing; begin end;
initialization
  WriteLn('starter runs first');
end.
