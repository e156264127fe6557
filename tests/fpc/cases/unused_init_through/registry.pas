unit Registry;
{$mode objfpc}
interface
implementation
initialization
  WriteLn('registry starts');
end.
