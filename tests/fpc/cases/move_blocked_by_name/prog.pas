program prog;
{$mode objfpc}
uses
  Mid;

begin
  WriteLn(Report(2));
end.
