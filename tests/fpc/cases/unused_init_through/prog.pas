program prog;
{$mode objfpc}
uses
  Wrapper, Plain;

begin
  WriteLn(PlainValue);
end.
